#pragma once
#include "list_rig.h"
