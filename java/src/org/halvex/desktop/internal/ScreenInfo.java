package org.halvex.desktop.internal;

import com.sun.jna.Structure;
import java.util.LinkedHashMap;
import java.util.Map;

/**
 * frametake's 48-byte monitor record ({@code ScreenInfo} of frametake.h), field for field; the
 * gap before the first double is declared, so that the layout does not rest on JNA's alignment
 * rules.
 */
@Structure.FieldOrder({"monitorHandle", "width", "height", "reserved", "boundsX", "boundsY",
                       "boundsWidth", "boundsHeight"})
public final class ScreenInfo extends Structure {
    /** The monitor's handle, low 32 bits. */
    public int monitorHandle;
    /** Right - left. */
    public int width;
    /** Bottom - top. */
    public int height;
    /** The alignment gap; the library never writes it. */
    public int reserved;
    /** Left, in desktop coordinates. */
    public double boundsX;
    /** Top. */
    public double boundsY;
    /** Right - left. */
    public double boundsWidth;
    /** Bottom - top. */
    public double boundsHeight;

    /** The offset of each field in declaration order, and the whole record's size as "size". */
    public Map<String, Integer> layout() {
        Map<String, Integer> offsets = new LinkedHashMap<>();
        for (String field : getFieldOrder()) {
            offsets.put(field, fieldOffset(field));
        }
        offsets.put("size", size());
        return offsets;
    }
}
