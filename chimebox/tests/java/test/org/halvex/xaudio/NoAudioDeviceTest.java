package org.halvex.xaudio;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.Test;

/** Runs with an SDL audio driver that does not exist, so no device can be opened. */
class NoAudioDeviceTest {
    @Test
    void masteringVoiceFailureLeavesTheFieldsEmpty() {
        final WavPlayer player = new WavPlayer();
        final AudioPlayerException e = assertThrows(AudioPlayerException.class, player::initialize);
        assertTrue(e.getMessage().startsWith("Failed creating mastering voice: -0X"), e.getMessage());
        assertEquals(0, player.xAudioRef);
        assertEquals(0, player.xAudioMasteringVoiceRef);
    }
}
