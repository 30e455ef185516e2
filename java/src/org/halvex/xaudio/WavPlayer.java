package org.halvex.xaudio;

import org.halvex.desktop.internal.NativeFiles;

/**
 * Plays one WAV or xWMA file to its end through the system's audio engine (XAudio2 2.9 on
 * Windows, FAudio on Linux), from the native library chimebox.
 *
 * <p>This is the class the library is built against: the natives' C declarations are generated
 * from it ({@code javac -h}), so a native whose signature drifts from this class does not
 * compile. The application's own class must keep this package, class name, the three native
 * methods and the two {@code long} fields (which may also be declared in a superclass).
 *
 * <p>Call {@code initialize} and {@code release} on the same thread, at most one
 * {@code initialize} before each {@code release}, and never while a {@code play} runs on the
 * object; several {@code play} calls may run at once. (A {@code release} that breaks this rule
 * ends the running plays early instead of leaving them waiting: the last of them releases the
 * engine.) Failures reach Java as
 * {@link AudioPlayerException} with the engine's or the file reader's code in the message.
 *
 * <p>The class loads chimebox from {@code java.library.path} when it is there, and otherwise
 * from the natives jar on the class path ({@code org.halvex.desktop.internal.NativeFiles}).
 */
public class WavPlayer {
    /** The engine's handle, set by {@code initialize} and cleared by {@code release}. */
    long xAudioRef;
    /** The mastering voice's handle, set and cleared with {@link #xAudioRef}. */
    long xAudioMasteringVoiceRef;

    /** Makes a player without an engine; {@link #initialize} creates one. */
    public WavPlayer() {}

    /** Creates the engine and its mastering voice, on a thread in the multithreaded apartment. */
    public native void initialize();

    /**
     * Plays the file at {@code path} (WAV or xWMA); returns once the sound has been used up.
     *
     * @param path the sound file's path
     */
    public native void play(String path);

    /** Destroys the mastering voice and releases the engine, and stores 0 in both fields. */
    public native void release();

    static {
        NativeFiles.loadJniLibrary("chimebox");
    }
}
