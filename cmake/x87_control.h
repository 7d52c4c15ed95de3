/* Force-included by the x87 control build (TWPNTOPT_X87_CONTROL) only. The
   distance code refuses to build where FLT_EVAL_METHOD says that doubles are
   evaluated in extended precision; the control build exists to show what
   that would change, so it hides the macro once the header has set it. */
#ifdef __cplusplus
#include <cfloat>
#else
#include <float.h>
#endif
#undef FLT_EVAL_METHOD
