/** \file
 * How the device interface's declarations spell a reference out-parameter
 * and an action, as C++ and as C see them: a reference is a pointer at the
 * binary level, an action an int. Each header that declares with them takes
 * them here and undefines them at its end, so they do not reach the
 * application. This header compiles as C and as C++. */
/// \cond SX_INTERNAL
#ifdef __cplusplus
#define SX_REF(T) T&
#define SX_ACTION eCmdActions
#else
#define SX_REF(T) T*
#define SX_ACTION int
#endif
/// \endcond
