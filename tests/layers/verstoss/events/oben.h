#pragma once

#include "capture/auswahl.h"
