#include "platform/objectstore/ObjectStore.h"
