package org.halvex.desktop;

/**
 * One monitor, as {@link Screens#monitors} listed it.
 *
 * @param handle the system's handle of the monitor (its low 32 bits), the same in both modes
 * @param x the left edge in desktop coordinates, where the primary monitor's corner is 0, 0
 * @param y the top edge
 * @param width the width in {@code mode}'s units
 * @param height the height in {@code mode}'s units
 * @param mode the units of the other values
 */
public record Monitor(int handle, int x, int y, int width, int height, DpiMode mode) {
    /**
     * Makes the record.
     *
     * @param handle the system's handle of the monitor
     * @param x the left edge
     * @param y the top edge
     * @param width the width
     * @param height the height
     * @param mode the units of the other values
     * @throws NullPointerException if {@code mode} is null
     */
    public Monitor {
        java.util.Objects.requireNonNull(mode, "mode");
    }

    /**
     * Whether this is the primary monitor, whose corner is the desktop's 0, 0.
     *
     * @return true for the primary monitor
     */
    public boolean isPrimary() {
        return x == 0 && y == 0;
    }
}
