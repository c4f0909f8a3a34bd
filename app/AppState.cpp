// The values that tie views, editors and reports together for one run of the program.
#include "app/AppState.h"
