package org.halvex.desktop.internal;

import com.sun.jna.Library;
import com.sun.jna.Native;
import com.sun.jna.Platform;
import java.io.File;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.util.Map;
import java.util.function.Supplier;

/**
 * The natives' C exports, each library loaded the first time it is used. JNA finds frametake,
 * paneknob and (on Linux) waypost on {@code jna.library.path}, then the system's library path,
 * then at its resource prefix on the class path (the natives jar). The Windows waypost is a
 * program that exports detectProxy, which JNA's name lookup never finds: it is taken from
 * {@code jna.library.path} or extracted from the class path, and loaded by its path.
 */
public final class NativeCalls {
    private NativeCalls() {}

    /** frametake.h; count requests and captures one call at a time. */
    public interface Frametake extends Library {
        /** See frametake.h. */
        int getScreenCountEx(byte unaware);

        /** See frametake.h. */
        void getScreen(int index, ScreenInfo out);

        /** See frametake.h; the path in the platform's 8-bit character set. */
        String captureScreen(ScreenInfo screen, int x, int y, int width, int height);
    }

    /** paneknob.h; titles in the platform's 8-bit character set. */
    public interface Paneknob extends Library {
        /** See paneknob.h. */
        int setWindowFlags(String title);

        /** See paneknob.h. */
        int minimize(String title);

        /** See paneknob.h. */
        int restore(String title);

        /** See paneknob.h. */
        int restoreAndActivate(String title);
    }

    /** waypost.h; the URL and the answer in UTF-8, one call at a time. */
    public interface Waypost extends Library {
        /** See waypost.h. */
        String detectProxy(String url);
    }

    /** A library loaded by the first call that succeeds; a call that fails throws its own
     *  UnsatisfiedLinkError, with JNA's reason, and the next call tries again. */
    private static final class OnFirstUse<T> {
        private final Supplier<T> load;
        private T loaded;

        OnFirstUse(Supplier<T> load) {
            this.load = load;
        }

        synchronized T get() {
            if (loaded == null) {
                try {
                    loaded = load.get();
                } catch (UnsatisfiedLinkError failure) {
                    throw NativeFiles.withHint(failure);
                }
            }
            return loaded;
        }
    }

    private static final OnFirstUse<Frametake> FRAMETAKE =
        new OnFirstUse<>(() -> Native.load("frametake", Frametake.class));
    private static final OnFirstUse<Paneknob> PANEKNOB =
        new OnFirstUse<>(() -> Native.load("paneknob", Paneknob.class));
    private static final OnFirstUse<Waypost> WAYPOST = new OnFirstUse<>(NativeCalls::loadWaypost);

    /** frametake, loaded on first use. */
    public static Frametake frametake() {
        return FRAMETAKE.get();
    }

    /** paneknob, loaded on first use. */
    public static Paneknob paneknob() {
        return PANEKNOB.get();
    }

    /** waypost, loaded on first use. */
    public static Waypost waypost() {
        return WAYPOST.get();
    }

    private static Waypost loadWaypost() {
        Map<String, Object> utf8 =
            Map.of(Library.OPTION_STRING_ENCODING, StandardCharsets.UTF_8.name());
        if (!Platform.isWindows()) {
            return Native.load("waypost", Waypost.class, utf8);
        }
        String path = System.getProperty("jna.library.path", "");
        for (String folder : path.split(File.pathSeparator)) {
            File program = new File(folder, "waypost.exe");
            if (!folder.isEmpty() && program.isFile()) {
                return Native.load(program.getAbsolutePath(), Waypost.class, utf8);
            }
        }
        try {
            return Native.load(NativeFiles.extract("waypost.exe").toString(), Waypost.class, utf8);
        } catch (IOException e) {
            UnsatisfiedLinkError missing = new UnsatisfiedLinkError(
                "waypost.exe is on neither jna.library.path nor the class path: " + e.getMessage());
            missing.initCause(e);
            throw missing;
        }
    }
}
