package org.halvex.desktop;

import java.io.IOException;
import java.net.Proxy;
import java.net.ProxySelector;
import java.net.SocketAddress;
import java.net.URI;
import java.util.List;
import org.halvex.desktop.internal.NativeCalls;

/**
 * A {@link ProxySelector} that asks {@link SystemProxy} for each URI, so that the application's
 * connections go where the system's would:
 *
 * <pre>{@code
 * ProxySelector.setDefault(new SystemProxySelector());
 * }</pre>
 *
 * <p>When the system cannot be asked, or answers with a proxy that Java cannot use, the
 * connection goes direct, as it would with no selector installed. Every connection asks afresh
 * and the questions are answered one at a time, so a slow answer (automatic detection on
 * Windows, up to 5 seconds for a PAC script on Linux) holds up the connections behind it; an
 * application that opens many may keep answers per host itself.
 */
public final class SystemProxySelector extends ProxySelector {
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
        try {
            return List.of(SystemProxy.proxyFor(uri));
        } catch (IOException notAnswered) {
            return List.of(Proxy.NO_PROXY);
        }
    }

    /** Does nothing: the system's answer is asked afresh on every connection. */
    @Override
    public void connectFailed(URI uri, SocketAddress address, IOException failure) {
        if (uri == null || address == null || failure == null) {
            throw new IllegalArgumentException("connectFailed needs all three arguments");
        }
    }
}
