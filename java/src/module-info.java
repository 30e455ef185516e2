/**
 * The desktop natives for Java: the monitors and captures of them to PNG files, control of
 * another application's window by its title, the system's proxy for a URI, and WAV/xWMA
 * playback.
 *
 * <p>The natives come from the natives jar of the platform on the class path (or from
 * {@code jna.library.path} and, for {@link org.halvex.xaudio.WavPlayer}, from
 * {@code java.library.path}); each is loaded the first time one of its calls is made.
 */
module org.halvex.desktop {
    requires com.sun.jna;

    exports org.halvex.desktop;
    exports org.halvex.xaudio;

    // JNA reads the record's fields and implements the call tables by reflection.
    opens org.halvex.desktop.internal to com.sun.jna;
}
