package org.halvex.xaudio;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.nio.file.Path;
import org.junit.jupiter.api.Test;

/** A real xWMA file where GStreamer has no WMA decoder (its plugin folder lacks gst-libav). */
class NoWmaDecoderTest {
    @Test
    void playSaysWhichPackageIsMissing() {
        final Path file = Path.of(System.getenv("REAL_XWMA"), "sine-2ch-128k-2s.xwma");
        final WavPlayer player = new WavPlayer();
        player.initialize();
        try {
            final AudioPlayerException e = assertThrows(AudioPlayerException.class, () -> player.play(file.toString()));
            assertEquals("Error -0X7FF8FF82 submitting source buffer (xWMA): no WMA decoder is installed "
                    + "(GStreamer's avdec_wmav2 and avdec_wmapro: on Debian and Ubuntu, the package gstreamer1.0-libav)",
                    e.getMessage());
        } finally {
            player.release();
        }
    }
}
