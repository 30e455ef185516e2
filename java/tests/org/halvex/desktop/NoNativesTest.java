package org.halvex.desktop;

import static org.junit.jupiter.api.Assertions.assertThrows;

import org.junit.jupiter.api.Test;

/** The API jar without its natives jar: every call says the library cannot be loaded, never a
 *  NoClassDefFoundError that hides why. */
class NoNativesTest {
    @Test
    void everyCallThrowsTheLoadersError() {
        for (int call = 0; call < 2; ++call) {
            assertThrows(UnsatisfiedLinkError.class, () -> Screens.monitors(DpiMode.PHYSICAL_PIXELS));
            assertThrows(UnsatisfiedLinkError.class, () -> WindowControl.minimize("any"));
        }
    }
}
