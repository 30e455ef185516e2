package org.halvex.desktop.bench;

import java.net.ProxySelector;
import java.net.URI;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import org.halvex.desktop.SystemProxySelector;

/** Not a test: the cost of one proxy query through {@link SystemProxySelector} against the
 *  JDK's own system proxies, in one JVM, under whatever settings the environment holds (proxy
 *  variables, or a desktop's). Medians of 200 queries after a first one each. */
public final class ProxyRace {
    private static final int QUERIES = 200;

    private ProxyRace() {}

    static double medianMicros(ProxySelector selector, URI uri) {
        selector.select(uri);  // the first loads what the selector needs
        final List<Double> times = new ArrayList<>();
        for (int i = 0; i < QUERIES; ++i) {
            final long start = System.nanoTime();
            selector.select(uri);
            times.add((System.nanoTime() - start) / 1e3);
        }
        Collections.sort(times);
        return times.get(times.size() / 2);
    }

    public static void main(String[] args) {
        System.setProperty("java.net.useSystemProxies", "true");
        final URI uri = URI.create("http://example.com/");
        final ProxySelector jdk = ProxySelector.getDefault();
        final ProxySelector ours = new SystemProxySelector();
        System.out.printf("%s: SystemProxySelector %.0f us a query (%s); the JDK's %.0f us (%s)%n",
                args.length > 0 ? args[0] : "proxy settings", medianMicros(ours, uri), ours.select(uri),
                medianMicros(jdk, uri), jdk.select(uri));
    }
}
