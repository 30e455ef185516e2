package org.halvex.xaudio;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.lang.reflect.Field;
import java.nio.file.Files;
import java.nio.file.Path;
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
            final AudioPlayerException raised = assertThrows(AudioPlayerException.class, player::initialize);
            assertEquals("Cannot find long JNI field: xAudioRef", raised.getMessage());
            assertEquals(0, handle(player, "xAudioMasteringVoiceRef"), "nothing is stored");
        }
    }

    static long threads() throws Exception {
        try (var tasks = Files.list(Path.of("/proc/self/task"))) {
            return tasks.count();
        }
    }

    /** An engine that cannot be stored is released at once, with the threads it started. */
    @Test
    void failedStoresLeaveNoEngineBehind() throws Exception {
        final WavPlayer player = new WavPlayer();
        if (handle(player, "xAudioRef") != -1) {
            return;  // only the variant without the engine field fails its stores
        }
        for (int i = 0; i < 5; ++i) {
            assertThrows(AudioPlayerException.class, player::initialize);
        }
        final long before = threads();
        for (int i = 0; i < 40; ++i) {
            assertThrows(AudioPlayerException.class, player::initialize);
        }
        final long after = threads();
        assertTrue(after - before <= 3, "threads grew from " + before + " to " + after);
    }
}
