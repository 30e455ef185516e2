package org.halvex.xaudio;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import org.junit.jupiter.api.Test;

/** Runs where libFAudio.so.0 cannot be loaded. */
class NoEngineLibraryTest {
    @Test
    void missingEngineLibraryIsAClearExceptionEveryTime() {
        final WavPlayer player = new WavPlayer();
        for (int attempt = 0; attempt < 2; ++attempt) {
            final AudioPlayerException e = assertThrows(AudioPlayerException.class, player::initialize);
            assertEquals("Failed to init XAudio2 engine: -0X7FF8FF82", e.getMessage());
            assertEquals(0, player.xAudioRef);
            assertEquals(0, player.xAudioMasteringVoiceRef);
        }
    }
}
