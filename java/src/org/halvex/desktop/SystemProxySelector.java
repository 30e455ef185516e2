package org.halvex.desktop;

import java.io.IOException;
import java.net.Proxy;
import java.net.ProxySelector;
import java.net.SocketAddress;
import java.net.URI;
import java.util.List;
import java.util.Locale;
import java.util.Set;
import java.util.concurrent.ConcurrentHashMap;
import org.halvex.desktop.internal.NativeCalls;

/**
 * A {@link ProxySelector} that asks {@link SystemProxy} for each URI, so that the application's
 * connections go where the system's would:
 *
 * <pre>{@code
 * ProxySelector.setDefault(new SystemProxySelector());
 * }</pre>
 *
 * <p>Loopback hosts ({@code localhost} and names under it, {@code 127.x.x.x}, {@code [::1]})
 * go direct without asking, as with the JDK's own selector. When the system cannot be asked,
 * or answers with a proxy that Java cannot use, the connection goes direct, as it would with no
 * selector installed, and the reason is logged through {@link System.Logger} under this class's
 * name: {@code WARNING} the first time for each reason, {@code DEBUG} after. Every connection asks afresh
 * and the questions are answered one at a time, so a slow answer (automatic detection on
 * Windows, up to 5 seconds for a PAC script on Linux) holds up the connections behind it; an
 * application that opens many may keep answers per host itself.
 */
public final class SystemProxySelector extends ProxySelector {
    private static final System.Logger LOG = System.getLogger(SystemProxySelector.class.getName());
    private static final int REASONS_WARNED = 64;
    private final Set<String> warned = ConcurrentHashMap.newKeySet();

    /**
     * Makes a selector, loading the natives now, so that one that cannot work fails here and
     * not in every connection; it keeps no state of its own.
     *
     * @throws UnsatisfiedLinkError if waypost is on neither the library path nor the class path
     */
    public SystemProxySelector() {
        NativeCalls.waypost();
    }

    /**
     * The system's proxy for {@code uri}, or a direct connection.
     *
     * @throws IllegalArgumentException if {@code uri} is null, not absolute or names no host
     */
    @Override
    public List<Proxy> select(URI uri) {
        if (uri == null) {
            throw new IllegalArgumentException("uri is null");
        }
        if (uri.isAbsolute() && isLoopback(uri.getHost())) {
            return List.of(Proxy.NO_PROXY);
        }
        try {
            return List.of(SystemProxy.proxyFor(uri));
        } catch (IOException notAnswered) {
            String reason = String.valueOf(notAnswered.getMessage());
            boolean first = warned.size() < REASONS_WARNED && warned.add(reason);
            LOG.log(first ? System.Logger.Level.WARNING : System.Logger.Level.DEBUG,
                    "no proxy for {0}: going direct ({1})", uri.getHost(), reason);
            return List.of(Proxy.NO_PROXY);
        }
    }

    /** Names that always mean this machine: never sent through a proxy. */
    static boolean isLoopback(String host) {
        if (host == null) {
            return false;
        }
        String name = host.toLowerCase(Locale.ROOT);
        return name.equals("localhost") || name.endsWith(".localhost")
               || name.matches("127\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}")
               || name.equals("[::1]") || name.equals("::1");
    }

    /** Does nothing: the system's answer is asked afresh on every connection. */
    @Override
    public void connectFailed(URI uri, SocketAddress address, IOException failure) {
        if (uri == null || address == null || failure == null) {
            throw new IllegalArgumentException("connectFailed needs all three arguments");
        }
    }
}
