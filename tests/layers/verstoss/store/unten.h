#pragma once

#include "store/value.h"
