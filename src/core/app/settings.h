#pragma once

// The settings helpers live beside the store they read, so that pages below the main window
// can apply the same reading rule.
#include "seams/settings.h"
