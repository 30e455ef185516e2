/* Prints where the C header puts each field of ScreenInfo, and its size, for the Java record's
   layout test. */
#include <stddef.h>
#include <stdio.h>

#include "frametake.h"

#define PRINT_OFFSET(field) printf(#field "=%zu\n", offsetof(ScreenInfo, field))

int main(void) {
    PRINT_OFFSET(monitorHandle);
    PRINT_OFFSET(width);
    PRINT_OFFSET(height);
    PRINT_OFFSET(reserved);
    PRINT_OFFSET(boundsX);
    PRINT_OFFSET(boundsY);
    PRINT_OFFSET(boundsWidth);
    PRINT_OFFSET(boundsHeight);
    printf("size=%zu\n", sizeof(ScreenInfo));
    return 0;
}
