package org.halvex.xaudio;

/** What chimebox's natives raise; JNI's ThrowNew needs the String constructor. */
public class AudioPlayerException extends RuntimeException {
    private static final long serialVersionUID = 1L;

    public AudioPlayerException(String message) {
        super(message);
    }
}
