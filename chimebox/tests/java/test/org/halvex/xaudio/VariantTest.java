package org.halvex.xaudio;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.lang.reflect.Field;
import org.junit.jupiter.api.Test;

/** Runs against the WavPlayer variants: fields declared in a superclass, or xAudioRef missing. */
class VariantTest {
    static long handle(WavPlayer player, String name) throws Exception {
        for (Class<?> type = player.getClass(); type != null; type = type.getSuperclass()) {
            try {
                final Field field = type.getDeclaredField(name);
                field.setAccessible(true);
                return field.getLong(player);
            } catch (NoSuchFieldException e) {
                // look further up
            }
        }
        return -1;
    }

    @Test
    void lifecycleThroughTheFieldsThisVariantHas() throws Exception {
        final WavPlayer player = new WavPlayer();
        final boolean hasEngineField = handle(player, "xAudioRef") != -1;
        if (hasEngineField) {
            player.initialize();
            assertNotEquals(0, handle(player, "xAudioRef"));
            assertNotEquals(0, handle(player, "xAudioMasteringVoiceRef"));
            player.release();
            assertEquals(0, handle(player, "xAudioRef"));
            assertEquals(0, handle(player, "xAudioMasteringVoiceRef"));
        } else {
            // Which exception Java sees once a field is missing is the JVM's call: the lookup's
            // own NoSuchFieldError or the library's AudioPlayerException; both name the field.
            final Throwable raised = assertThrows(Throwable.class, player::initialize);
            assertTrue(String.valueOf(raised.getMessage()).contains("xAudioRef"), String.valueOf(raised));
        }
    }
}
