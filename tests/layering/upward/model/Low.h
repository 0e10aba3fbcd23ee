#pragma once
// A lower layer reaching up: the check must refuse this tree.
#include "edit/High.h"
