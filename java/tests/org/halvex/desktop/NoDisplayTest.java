package org.halvex.desktop;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.util.List;
import java.util.function.Function;
import org.junit.jupiter.api.Test;

/** A process with no desktop to act on (no X server, no Wayland compositor reachable): every
 *  window action says so, instead of "no such window" or "not done", and a capture's error
 *  names the display. */
class NoDisplayTest {
    @Test
    void everyWindowActionAnswersNoDisplay() {
        List<Function<String, WindowOutcome>> actions = List.of(WindowControl::minimize,
                WindowControl::restore, WindowControl::restoreAndActivate,
                WindowControl::removeMinimizeMaximizeBoxes);
        for (Function<String, WindowOutcome> action : actions) {
            assertEquals(WindowOutcome.NO_DISPLAY, action.apply("Any Window"));
        }
    }

    @Test
    void aCaptureSaysThereIsNoDisplay() {
        Monitor any = new Monitor(1, 0, 0, 640, 480, DpiMode.PHYSICAL_PIXELS);
        IOException failed = assertThrows(IOException.class, () -> Screens.capture(any, 0, 0, 8, 8));
        assertTrue(failed.getMessage().contains("no display"), failed.getMessage());
    }
}
