package org.halvex.desktop;

import java.io.IOException;
import java.net.Proxy;
import java.net.URI;
import java.net.URISyntaxException;
import java.util.Objects;
import org.halvex.desktop.internal.NativeCalls;

/**
 * The proxy through which the system would reach a URI (waypost): on Windows WinHTTP's
 * automatic detection (WPAD, PAC scripts), then the user's configured proxy; on Linux libproxy
 * (desktop settings, proxy environment variables, PAC scripts, answered within 5 seconds).
 *
 * <p>The system is asked with the URI's scheme, host and port, and for plain {@code http} also
 * its path and query, as browsers ask a PAC script: user information and fragments never leave
 * the process, and neither do the paths and queries of {@code https} URIs, since a PAC script
 * may come from anyone on the local network (automatic detection).
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
     * @param uri an absolute URI with a host, such as {@code https://example.com/}
     * @return {@link Proxy#NO_PROXY} for a direct connection, or an HTTP or SOCKS proxy whose
     *     address is unresolved
     * @throws IllegalArgumentException if {@code uri} is not absolute or names no host
     * @throws IOException if the system could not be asked, or its answer names no proxy a
     *     Java connection can use
     */
    public static Proxy proxyFor(URI uri) throws IOException {
        String asked = askedFor(uri);
        NativeCalls.Waypost waypost = NativeCalls.waypost();
        String answer;
        synchronized (ONE_AT_A_TIME) {
            answer = waypost.detectProxy(asked);
        }
        return ProxyAnswer.parse(answer);
    }

    /** What the system is asked for {@code uri} (see the class's description). */
    static String askedFor(URI uri) {
        Objects.requireNonNull(uri, "uri");
        if (!uri.isAbsolute() || uri.getHost() == null) {
            throw new IllegalArgumentException("the proxy is asked for an absolute URI with a host, not " + uri);
        }
        boolean plainHttp = uri.getScheme().equalsIgnoreCase("http");
        String path = plainHttp && !uri.getRawPath().isEmpty() ? uri.getRawPath() : "/";
        String query = plainHttp && uri.getRawQuery() != null ? "?" + uri.getRawQuery() : "";
        try {
            URI server = new URI(uri.getScheme(), null, uri.getHost(), uri.getPort(), null, null, null);
            return server.toASCIIString() + path + query;
        } catch (URISyntaxException cannotHappen) {
            throw new IllegalArgumentException(cannotHappen);
        }
    }
}
