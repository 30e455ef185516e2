/**
 * A small typed API over the desktop natives.
 *
 * <ul>
 *   <li>{@link org.halvex.desktop.Screens}: the monitors as {@link org.halvex.desktop.Monitor}
 *       records, in physical pixels or in DPI-unaware units, and captures of a rectangle of one
 *       to a PNG file.</li>
 *   <li>{@link org.halvex.desktop.WindowControl}: minimize, show, activate or take the boxes
 *       away from a top-level window found by its title; each call answers a
 *       {@link org.halvex.desktop.WindowOutcome}.</li>
 *   <li>{@link org.halvex.desktop.SystemProxy} and {@link org.halvex.desktop.SystemProxySelector}:
 *       the proxy the system would use for a URI, as a {@link java.net.Proxy}.</li>
 *   <li>{@link org.halvex.desktop.Sounds}: plays a WAV or xWMA file to its end
 *       (through {@link org.halvex.xaudio.WavPlayer}).</li>
 * </ul>
 *
 * <p>Every class here may be used from any thread: where a native must be called one call at a
 * time, the class holds a lock around it.
 */
package org.halvex.desktop;
