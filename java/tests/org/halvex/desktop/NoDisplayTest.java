package org.halvex.desktop;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.List;
import java.util.function.Function;
import org.junit.jupiter.api.Test;

/** A process with no desktop to act on (no X server, no Wayland compositor reachable): every
 *  window action says so, instead of "no such window" or "not done". */
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
}
