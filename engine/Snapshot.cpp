#include "engine/Snapshot.h"
