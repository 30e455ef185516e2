package org.halvex.desktop.internal;

import java.io.FileNotFoundException;
import java.io.IOException;
import java.io.InputStream;
import java.net.URL;
import java.nio.file.DirectoryIteratorException;
import java.nio.file.DirectoryStream;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.time.Instant;
import java.util.HashMap;
import java.util.Locale;
import java.util.Map;

/**
 * Native files taken from the class path: a natives jar holds them under JNA's resource prefix
 * for the platform ({@code linux-x86-64/}, {@code win32-x86-64/}, {@code win32-aarch64/}).
 *
 * <p>Each is copied once per process, under its own name, into a folder of this process's own
 * (made new, with a name nobody can guess, readable by the user alone) in the system property
 * {@code org.halvex.desktop.tmpdir}'s folder, else {@code java.io.tmpdir}, so that no other
 * user can put a library in its place. The folder holds an owner file naming this process (its
 * id and start time). The copies are deleted when the JVM exits. Windows keeps a loaded library
 * locked, so there they stay behind, and a JVM that is killed or crashes leaves them anywhere;
 * the first copy a later process makes deletes the folders whose owner file names a process
 * that no longer runs, as far as nothing holds them. It follows no link and deletes no folder
 * without such an owner file: nothing it did not make.
 */
public final class NativeFiles {
    private static final String FOLDER_PREFIX = "desktop-natives-";
    private static final String OWNER_FILE = "owner";
    private static final Map<String, Path> COPIED = new HashMap<>();
    private static Path folder;

    private NativeFiles() {}

    /**
     * Loads the JNI library {@code name} as {@link System#loadLibrary} does when it is on
     * {@code java.library.path}, and otherwise from the class path.
     *
     * @param name the library's name without prefix or suffix ({@code chimebox})
     * @throws UnsatisfiedLinkError if it is in neither place, or the copy cannot be loaded
     */
    public static void loadJniLibrary(String name) {
        try {
            System.loadLibrary(name);
        } catch (UnsatisfiedLinkError notOnLibraryPath) {
            Path copy;
            try {
                copy = extract(System.mapLibraryName(name));
            } catch (IOException notOnClassPath) {
                notOnLibraryPath.addSuppressed(notOnClassPath);
                throw notOnLibraryPath;
            }
            try {
                System.load(copy.toString());
            } catch (UnsatisfiedLinkError copyFailed) {
                UnsatisfiedLinkError thrown = withHint(copyFailed);
                thrown.addSuppressed(notOnLibraryPath);
                throw thrown;
            }
        }
    }

    /**
     * {@code failure}, or when a copy could not be mapped as code (a temporary folder mounted
     * noexec), a new error that names the properties choosing the folders, with it as the cause.
     *
     * @param failure the loader's error
     * @return the error to throw
     */
    public static UnsatisfiedLinkError withHint(UnsatisfiedLinkError failure) {
        String message = String.valueOf(failure.getMessage());
        if (!message.contains("failed to map segment")) {
            return failure;
        }
        UnsatisfiedLinkError hinted = new UnsatisfiedLinkError(
            message + " (the copy's folder may not allow running code, as a noexec mount:"
            + " set org.halvex.desktop.tmpdir and jna.tmpdir to a folder that does)");
        hinted.initCause(failure);
        return hinted;
    }

    /**
     * The path of a copy of the class path's {@code <prefix>/<fileName>}.
     *
     * @param fileName the file's name in the natives jar ({@code waypost.exe})
     * @return the copy
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
        Path target = processFolder().resolve(fileName);
        try (InputStream in = found.openStream()) {
            Files.copy(in, target);
        } catch (IOException copyFailed) {
            Files.deleteIfExists(target);
            throw copyFailed;
        }
        target.toFile().deleteOnExit();
        COPIED.put(fileName, target);
        return target;
    }

    private static Path processFolder() throws IOException {
        if (folder == null) {
            Path parent = Path.of(System.getProperty("org.halvex.desktop.tmpdir",
                                                     System.getProperty("java.io.tmpdir")));
            removeStaleFolders(parent);
            Path made = Files.createTempDirectory(parent, FOLDER_PREFIX);
            made.toFile().deleteOnExit();  // after the files: the JVM deletes in reverse order
            Path owner = made.resolve(OWNER_FILE);
            Files.writeString(owner, ownerText(ProcessHandle.current()));
            owner.toFile().deleteOnExit();
            folder = made;
        }
        return folder;
    }

    /** A process as its owner file names it: its id and start time (ids are reused). */
    private static String ownerText(ProcessHandle process) {
        return process.pid() + " " + process.info().startInstant().map(Instant::toString).orElse("-");
    }

    /**
     * Deletes the copies of processes that no longer run from {@code parent}: each folder named
     * {@code desktop-natives-*} that is a folder, not a link, and holds an owner file (a plain
     * file, not a link) naming a process that does not run. Links in it are removed as links,
     * never followed; a library still loaded there (Windows) keeps its folder, for a later
     * process to try again.
     *
     * @param parent the folder the copies' folders are made in
     */
    public static void removeStaleFolders(Path parent) {
        try (DirectoryStream<Path> folders = Files.newDirectoryStream(parent, FOLDER_PREFIX + "*")) {
            for (Path stale : folders) {
                if (ownedByAnEndedProcess(stale)) {
                    removeFolder(stale);
                }
            }
        } catch (IOException | DirectoryIteratorException unreadable) {
            // nothing to clean up, or no right to: the new folder is made all the same
        }
    }

    private static boolean ownedByAnEndedProcess(Path folder) {
        Path owner = folder.resolve(OWNER_FILE);
        if (!Files.isDirectory(folder, LinkOption.NOFOLLOW_LINKS)
            || !Files.isRegularFile(owner, LinkOption.NOFOLLOW_LINKS)) {
            return false;
        }
        try {
            String text = Files.readString(owner).strip();
            long pid = Long.parseLong(text.substring(0, text.indexOf(' ')));
            return ProcessHandle.of(pid).map(process -> !ownerText(process).equals(text)).orElse(true);
        } catch (IOException | RuntimeException unreadable) {
            return false;  // being written, or not ours: left alone
        }
    }

    private static void removeFolder(Path folder) {
        try (DirectoryStream<Path> entries = Files.newDirectoryStream(folder)) {
            for (Path entry : entries) {
                if (!entry.getFileName().toString().equals(OWNER_FILE)
                    && !Files.isDirectory(entry, LinkOption.NOFOLLOW_LINKS)) {
                    Files.deleteIfExists(entry);  // a link goes as a link
                }
            }
            Files.deleteIfExists(folder.resolve(OWNER_FILE));
            Files.deleteIfExists(folder);
        } catch (IOException | DirectoryIteratorException held) {
            // still loaded by a running process, or not empty: tried again by the next one
        }
    }

    /** JNA's resource prefix for this JVM's system and processor, for the three shipped. */
    static String resourcePrefix() throws FileNotFoundException {
        return resourcePrefix(System.getProperty("os.name", ""), System.getProperty("os.arch", ""));
    }

    /**
     * JNA's resource prefix for a system ({@code os.name}) and processor ({@code os.arch}), for
     * the three shipped. JNA's own {@code Platform.RESOURCE_PREFIX} says the same, but a
     * {@code WavPlayer} loaded from {@code java.library.path} needs no JNA, so it is not asked.
     *
     * @param system the system's name, as {@code os.name} gives it
     * @param processor the processor's name, as {@code os.arch} gives it
     * @return the prefix
     * @throws FileNotFoundException for any other pair: no natives are made for it
     */
    public static String resourcePrefix(String system, String processor) throws FileNotFoundException {
        String os = system.toLowerCase(Locale.ROOT);
        String prefix = (os.startsWith("windows") ? "win32" : os.startsWith("linux") ? "linux" : "")
                        + switch (processor.toLowerCase(Locale.ROOT)) {
                              case "amd64", "x86_64" -> "-x86-64";
                              case "aarch64" -> "-aarch64";
                              default -> "-";
                          };
        if (!prefix.equals("linux-x86-64") && !prefix.equals("win32-x86-64")
            && !prefix.equals("win32-aarch64")) {
            throw new FileNotFoundException("no natives are made for " + system + " on " + processor);
        }
        return prefix;
    }
}
