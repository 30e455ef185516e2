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

/** Files whose format would crash or hang the engine (0 channels, block alignment 0, 0 Hz ...):
 *  each is refused before a source voice exists, and this JVM lives on to play the next. */
class HostileFormatTest {
    static List<Path> hostileSounds() throws IOException {
        try (Stream<Path> files = Files.list(Path.of(System.getenv("HOSTILE_SOUNDS")))) {
            return files.sorted().toList();
        }
    }

    @Test
    void everyHostileFormatIsRefusedWithTheInvalidCallCode() throws IOException {
        final List<Path> sounds = hostileSounds();
        assertEquals(18, sounds.size());
        final WavPlayer player = new WavPlayer();
        player.initialize();
        try {
            for (final Path sound : sounds) {
                final AudioPlayerException refused = assertTimeoutPreemptively(Duration.ofSeconds(20),
                        () -> assertThrows(AudioPlayerException.class, () -> player.play(sound.toString())),
                        sound.getFileName().toString());
                assertEquals("Error -0X7769FFFF creating source voice", refused.getMessage(),
                        sound.getFileName().toString());
            }
        } finally {
            player.release();
        }
    }
}
