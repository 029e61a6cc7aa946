// Not compiled: the layer check is run on this file as if it belonged to
// model/, and must refuse each of these includes.
#include "model/project.h"
#include "generator/generator.h"
#include "project.h"
#include <QString>
