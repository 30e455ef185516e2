package org.halvex.desktop;

import java.nio.file.Path;
import java.util.Objects;
import org.halvex.xaudio.AudioPlayerException;
import org.halvex.xaudio.WavPlayer;

/**
 * Plays sound files through the system's audio engine (XAudio2 2.9 on Windows, FAudio on
 * Linux) with a {@link WavPlayer} of its own for each call.
 */
public final class Sounds {
    private Sounds() {}

    /**
     * Plays a WAV or xWMA file from its start to its end, on the calling thread; returns once it
     * has been played. Several threads may play at once.
     *
     * @param file the sound file
     * @throws AudioPlayerException if the engine cannot start, or the file cannot be read or
     *     played; the message names the step and the system's code
     */
    public static void play(Path file) {
        Objects.requireNonNull(file, "file");
        WavPlayer player = new WavPlayer();
        player.initialize();
        try {
            player.play(file.toString());
        } finally {
            player.release();
        }
    }
}
