#include "art/pictures.h"
