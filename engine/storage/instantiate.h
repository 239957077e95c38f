// The engine's templates are compiled once per store variant. Each variant's
// objects are built with one of CORVEX_WITH_ANSI, CORVEX_WITH_UNICODE or
// CORVEX_WITH_4K set, so that only the 4K build references zlib.
#pragma once

#include "engine/storage/variant_traits.h"

#ifndef CORVEX_WITH_ANSI
#define CORVEX_WITH_ANSI 0
#endif
#ifndef CORVEX_WITH_UNICODE
#define CORVEX_WITH_UNICODE 0
#endif
#ifndef CORVEX_WITH_4K
#define CORVEX_WITH_4K 0
#endif

#if CORVEX_WITH_ANSI
#define CORVEX_INSTANTIATE_ANSI(T) template class T<AnsiTraits>;
#else
#define CORVEX_INSTANTIATE_ANSI(T)
#endif
#if CORVEX_WITH_UNICODE
#define CORVEX_INSTANTIATE_UNICODE(T) template class T<UnicodeTraits>;
#else
#define CORVEX_INSTANTIATE_UNICODE(T)
#endif
#if CORVEX_WITH_4K
#define CORVEX_INSTANTIATE_4K(T) template class T<Unicode4KTraits>;
#else
#define CORVEX_INSTANTIATE_4K(T)
#endif

#define CORVEX_INSTANTIATE_CLASS(T) \
    CORVEX_INSTANTIATE_ANSI(T) CORVEX_INSTANTIATE_UNICODE(T) CORVEX_INSTANTIATE_4K(T)

// For function templates: CORVEX_FOR_EACH_VARIANT(M) expands M(Traits) for each
// variant this object is built for, where M writes one explicit instantiation.
#define CORVEX_EACH_IF(on, M, T) CORVEX_EACH_IF_##on(M, T)
#define CORVEX_EACH_IF_1(M, T) M(T)
#define CORVEX_EACH_IF_0(M, T)
#define CORVEX_EACH_IF_EXPAND(on, M, T) CORVEX_EACH_IF(on, M, T)
#define CORVEX_FOR_EACH_VARIANT(M)                               \
    CORVEX_EACH_IF_EXPAND(CORVEX_WITH_ANSI, M, AnsiTraits)       \
    CORVEX_EACH_IF_EXPAND(CORVEX_WITH_UNICODE, M, UnicodeTraits) \
    CORVEX_EACH_IF_EXPAND(CORVEX_WITH_4K, M, Unicode4KTraits)
