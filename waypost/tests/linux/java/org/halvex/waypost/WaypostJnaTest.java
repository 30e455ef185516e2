package org.halvex.waypost;

import static org.junit.jupiter.api.Assertions.assertEquals;

import com.sun.jna.Library;
import com.sun.jna.Native;
import org.junit.jupiter.api.Test;

/** libwaypost.so called through JNA, as the Java application calls it. The environment of this
 *  JVM sets http_proxy=http://gate:3128, https_proxy=http://sec:8443, no_proxy=example.net. */
class WaypostJnaTest {
    interface Waypost extends Library {
        String detectProxy(String url);
    }

    static final Waypost WAYPOST = Native.load("waypost", Waypost.class);

    @Test
    void answersLikeTheConsoleProgram() {
        assertEquals("gate:3128", WAYPOST.detectProxy("http://example.org/"));
        assertEquals("sec:8443", WAYPOST.detectProxy("https://example.org/"));
        assertEquals("DIRECT", WAYPOST.detectProxy("http://example.net/"));
        assertEquals("DIRECT", WAYPOST.detectProxy(""));
        assertEquals("DIRECT", WAYPOST.detectProxy(null));
        assertEquals("gate:3128", WAYPOST.detectProxy("http://b\u00fccher.example/"));
    }
}
