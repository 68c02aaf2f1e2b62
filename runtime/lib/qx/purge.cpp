#include "purge.h"

#include <cstdlib>

namespace {

void releaseHistory(variable v) {
  for (long i = 0; i < v->histoLn; ++i) {
    if (v->histo != NULL)
      free(v->histo[i]);
    if (v->histoMes != NULL)
      free(v->histoMes[i]);
  }
  free(v->histo);
  free(v->histoMes);
  free(v->histoLowAlrm);
  free(v->histoHighAlrm);
  resetVarHisto(v);
}

} // namespace

void purgeHistories(runtime rt) {
  for (long i = 0; i < rt->nvar; ++i)
    releaseHistory(rt->dico[i]);
}

void purgeRuntime(runtime rt) {
  purgeHistories(rt);
  free(rt->inval);
  free(rt->mesval);
  free(rt);
}
