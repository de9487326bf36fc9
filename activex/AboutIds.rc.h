/* Resource ids of the about box, for the resource script (see About1.h). */
#define PX_ABOUT_DIALOG 100
#define PX_ABOUT_IMAGE 101
#define PX_ABOUT_NAME 102
#define PX_ABOUT_DESC 103
#define PX_ABOUT_LINE 104
#define PX_GLYPH_BITMAP 1
