#include "model/tree_model.h"
