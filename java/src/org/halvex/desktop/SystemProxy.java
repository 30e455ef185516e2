package org.halvex.desktop;

import java.io.IOException;
import java.net.Proxy;
import java.net.URI;
import java.util.Objects;
import org.halvex.desktop.internal.NativeCalls;

/**
 * The proxy through which the system would reach a URI (waypost): on Windows WinHTTP's
 * automatic detection (WPAD, PAC scripts), then the user's configured proxy; on Linux libproxy
 * (desktop settings, proxy environment variables, PAC scripts, answered within 5 seconds).
 *
 * <p>The natives answer one call at a time; this class holds a lock around each, so any thread
 * may call, but calls from many threads wait for each other. See {@link SystemProxySelector} to
 * have every connection of the application ask.
 */
public final class SystemProxy {
    private static final Object ONE_AT_A_TIME = new Object();

    private SystemProxy() {}

    /**
     * The proxy for {@code uri}.
     *
     * @param uri an absolute URI, such as {@code https://example.com/}
     * @return {@link Proxy#NO_PROXY} for a direct connection, or an HTTP or SOCKS proxy whose
     *     address is unresolved
     * @throws IllegalArgumentException if {@code uri} is not absolute
     * @throws IOException if the system could not be asked, or its answer names no proxy a
     *     Java connection can use
     */
    public static Proxy proxyFor(URI uri) throws IOException {
        Objects.requireNonNull(uri, "uri");
        if (!uri.isAbsolute()) {
            throw new IllegalArgumentException("the proxy is asked for an absolute URI, not " + uri);
        }
        NativeCalls.Waypost waypost = NativeCalls.waypost();
        String answer;
        synchronized (ONE_AT_A_TIME) {
            answer = waypost.detectProxy(uri.toASCIIString());
        }
        return ProxyAnswer.parse(answer);
    }
}
