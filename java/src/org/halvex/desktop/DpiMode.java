package org.halvex.desktop;

/** The units in which the monitors are measured. */
public enum DpiMode {
    /** Physical pixels, as a program that is aware of each monitor's DPI sees them. */
    PHYSICAL_PIXELS,
    /**
     * 96-DPI logical units, as a program that does not know about DPI sees the desktop: at 144
     * DPI a 1920x1080 monitor measures 1280x720.
     */
    UNAWARE
}
