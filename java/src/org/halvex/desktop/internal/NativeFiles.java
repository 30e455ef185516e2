package org.halvex.desktop.internal;

import java.io.FileNotFoundException;
import java.io.IOException;
import java.io.InputStream;
import java.net.URL;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.HashMap;
import java.util.Locale;
import java.util.Map;

/**
 * Native files taken from the class path: a natives jar holds them under JNA's resource prefix
 * for the platform ({@code linux-x86-64/}, {@code win32-x86-64/}, {@code win32-aarch64/}).
 *
 * <p>Each is copied once per process, under its own name, into a folder of this process's own
 * in {@code java.io.tmpdir} (made new, with a name nobody can guess, readable by the user
 * alone), so that no other user can put a library in its place. The copies are deleted when
 * the JVM exits; Windows keeps a loaded library locked, so there they stay behind in the
 * user's temporary folder.
 */
public final class NativeFiles {
    private static final Map<String, Path> COPIED = new HashMap<>();
    private static Path folder;

    private NativeFiles() {}

    /**
     * Loads the JNI library {@code name} as {@link System#loadLibrary} does when it is on
     * {@code java.library.path}, and otherwise from the class path.
     *
     * @throws UnsatisfiedLinkError if it is in neither place or cannot be loaded
     */
    public static void loadJniLibrary(String name) {
        try {
            System.loadLibrary(name);
        } catch (UnsatisfiedLinkError notOnLibraryPath) {
            try {
                System.load(extract(System.mapLibraryName(name)).toString());
            } catch (IOException | UnsatisfiedLinkError fromClassPath) {
                notOnLibraryPath.addSuppressed(fromClassPath);
                throw notOnLibraryPath;
            }
        }
    }

    /**
     * The path of a copy of the class path's {@code <prefix>/<fileName>}.
     *
     * @throws IOException if the class path has no such file, or it cannot be copied
     */
    public static synchronized Path extract(String fileName) throws IOException {
        Path copied = COPIED.get(fileName);
        if (copied != null) {
            return copied;
        }
        String resource = resourcePrefix() + "/" + fileName;
        URL found = NativeFiles.class.getClassLoader().getResource(resource);
        if (found == null) {
            throw new FileNotFoundException(resource + " is in no class path entry");
        }
        if (folder == null) {
            folder = Files.createTempDirectory("desktop-natives-");
            folder.toFile().deleteOnExit();  // after the files: the JVM deletes in reverse order
        }
        Path target = folder.resolve(fileName);
        try (InputStream in = found.openStream()) {
            Files.copy(in, target);
        }
        target.toFile().deleteOnExit();
        COPIED.put(fileName, target);
        return target;
    }

    /** JNA's resource prefix for this JVM's system and processor, for the three shipped. */
    static String resourcePrefix() throws FileNotFoundException {
        String system = System.getProperty("os.name", "").toLowerCase(Locale.ROOT);
        String processor = System.getProperty("os.arch", "").toLowerCase(Locale.ROOT);
        String os = system.startsWith("windows") ? "win32" : system.startsWith("linux") ? "linux" : "";
        String arch = switch (processor) {
            case "amd64", "x86_64" -> "x86-64";
            case "aarch64" -> "aarch64";
            default -> "";
        };
        String prefix = os + "-" + arch;
        if (!prefix.equals("linux-x86-64") && !prefix.equals("win32-x86-64")
            && !prefix.equals("win32-aarch64")) {
            throw new FileNotFoundException("no natives are made for " + system + " on " + processor);
        }
        return prefix;
    }
}
