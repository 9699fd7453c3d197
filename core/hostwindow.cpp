#include "core/hostwindow.h"

HostWindow* gpHost = nullptr;
