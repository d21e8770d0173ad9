// Where the bitmap code's messages go on the host: nowhere but the record that ShowDibMessage keeps.
#include "image/Dib.h"

void fovea::ShowDibMessageDefault(const char*) {}
