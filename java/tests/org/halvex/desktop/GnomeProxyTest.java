package org.halvex.desktop;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.net.ProxySelector;
import java.net.URI;
import java.util.List;
import org.junit.jupiter.api.Test;

/**
 * An Ubuntu-style GNOME session with a manual proxy in GSettings (a keyfile here): the
 *  library's selector answers as the JDK's own system proxies do.
 */
class GnomeProxyTest {
    @Test
    void answersAsTheJdksSystemProxies() throws Exception {
        System.setProperty("java.net.useSystemProxies", "true");
        final ProxySelector jdk = ProxySelector.getDefault();
        final ProxySelector ours = new SystemProxySelector();
        for (final String uri : List.of("http://example.com/", "https://example.com/a?b",
                 "ftp://example.com/", "http://a.internal/")) {
            assertEquals(jdk.select(URI.create(uri)), ours.select(URI.create(uri)), uri);
        }
        assertEquals("[HTTP @ gate/<unresolved>:3128]",
            ours.select(URI.create("http://example.com/")).toString());
    }
}
