#pragma once
// The settings reading lives below the windows, where the command-line tool reaches it too.
#include "core/configuracion.h"
