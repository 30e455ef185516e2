package org.halvex.xaudio;

/** What chimebox's natives raise; JNI's ThrowNew needs the String constructor. */
public class AudioPlayerException extends RuntimeException {
    private static final long serialVersionUID = 1L;

    /**
     * Makes the exception.
     *
     * @param message what failed, with the system's code
     */
    public AudioPlayerException(String message) {
        super(message);
    }
}
