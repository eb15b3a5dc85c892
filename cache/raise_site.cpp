#include "cache/raise_site.h"

void raiseInvalidStream(const RaiseSite& where) {
  raiseUnexpected(where, "invalid stream");
}
