package org.halvex.desktop;

import java.io.IOException;
import java.net.InetSocketAddress;
import java.net.Proxy;

/** waypost's answer as a {@link Proxy}: "DIRECT", "host:port" or "socks=host:port". */
final class ProxyAnswer {
    private static final String SOCKS = "socks=";

    private ProxyAnswer() {}

    /**
     * @throws IOException for "" (waypost failed) and for an answer that names no usable proxy
     *     (no host, a blank or a scheme's "=" in it, a port outside 1..65535): the system's
     *     setting is then not one a Java connection can use
     */
    static Proxy parse(String answer) throws IOException {
        if (answer == null || answer.isEmpty()) {
            throw new IOException("the system's proxy could not be asked");
        }
        if (answer.equals("DIRECT")) {
            return Proxy.NO_PROXY;
        }
        boolean socks = answer.startsWith(SOCKS);
        String address = socks ? answer.substring(SOCKS.length()) : answer;
        int colon = address.lastIndexOf(':');
        String host = colon < 0 ? "" : address.substring(0, colon);
        if (host.startsWith("[") && host.endsWith("]") && host.length() > 2) {
            host = host.substring(1, host.length() - 1);
        }
        int port = 0;
        try {
            port = Integer.parseInt(address.substring(colon + 1));
        } catch (NumberFormatException notAPort) {
            // stays 0: refused below
        }
        if (host.isEmpty() || port < 1 || port > 0xFFFF
            || host.chars().anyMatch(c -> c == '=' || c == '[' || c == ']' || Character.isWhitespace(c))) {
            throw new IOException("the system's proxy setting \"" + answer + "\" names no usable proxy");
        }
        return new Proxy(socks ? Proxy.Type.SOCKS : Proxy.Type.HTTP,
                         InetSocketAddress.createUnresolved(host, port));
    }
}
