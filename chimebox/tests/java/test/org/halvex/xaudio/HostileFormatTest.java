package org.halvex.xaudio;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTimeoutPreemptively;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.time.Duration;
import java.util.List;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;

/** Files whose format or buffer would crash or hang the engine (0 channels, block alignment 0,
 *  0 Hz, a loop past the end, a missing packet table ...): each is refused before a source voice
 *  exists, with the message beside it, and this JVM lives on to play the next. */
class HostileFormatTest {
    static List<Path> hostileSounds() throws IOException {
        try (Stream<Path> files = Files.list(Path.of(System.getenv("HOSTILE_SOUNDS")))) {
            return files.filter(file -> file.toString().endsWith(".wav")).sorted().toList();
        }
    }

    @Test
    void everyHostileFormatIsRefusedWithTheInvalidCallCode() throws IOException {
        final List<Path> sounds = hostileSounds();
        assertEquals(36, sounds.size());
        final WavPlayer player = new WavPlayer();
        player.initialize();
        try {
            for (final Path sound : sounds) {
                final AudioPlayerException refused = assertTimeoutPreemptively(Duration.ofSeconds(20),
                        () -> assertThrows(AudioPlayerException.class, () -> player.play(sound.toString())),
                        sound.getFileName().toString());
                final Path message = Path.of(sound.toString().replaceFirst("\\.wav$", ".message"));
                assertEquals(Files.readString(message), refused.getMessage(), sound.getFileName().toString());
            }
        } finally {
            player.release();
        }
    }
}
