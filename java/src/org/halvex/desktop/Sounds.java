package org.halvex.desktop;

import java.io.IOException;
import java.nio.file.AccessDeniedException;
import java.nio.file.FileSystemException;
import java.nio.file.Files;
import java.nio.file.NoSuchFileException;
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
     * @throws NoSuchFileException if the file or its folder does not exist
     * @throws AccessDeniedException if the file may not be read
     * @throws FileSystemException if the path names something other than a regular file
     * @throws AudioPlayerException if the engine cannot start, or the file cannot be read or
     *     played for another reason; the message names the step and the system's code (for the
     *     file exceptions above, it is their cause)
     * @throws IOException never otherwise
     */
    public static void play(Path file) throws IOException {
        Objects.requireNonNull(file, "file");
        WavPlayer player = new WavPlayer();
        player.initialize();
        try {
            player.play(file.toString());
        } catch (AudioPlayerException failure) {
            throw fileProblem(file, failure);
        } finally {
            player.release();
        }
    }

    // The read failures that the system's file codes name, as java.nio's exceptions.
    private static final String READ_FAILED = "Failed reading WAV file: ";

    private static IOException fileProblem(Path file, AudioPlayerException failure) {
        String message = String.valueOf(failure.getMessage());
        FileSystemException named = null;
        if (message.startsWith(READ_FAILED + "-0X7FF8FFFE ") || message.startsWith(READ_FAILED + "-0X7FF8FFFD ")) {
            named = new NoSuchFileException(file.toString());  // file or path not found
        } else if (message.startsWith(READ_FAILED + "-0X7FF8FFFB ")) {
            named = Files.exists(file) && !Files.isRegularFile(file)
                        ? new FileSystemException(file.toString(), null, "not a regular file")
                        : new AccessDeniedException(file.toString());
        }
        if (named == null) {
            throw failure;
        }
        named.initCause(failure);
        return named;
    }
}
