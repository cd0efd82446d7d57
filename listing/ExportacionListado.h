#pragma once
// The listing to a PDF file, exported with C linkage so that a host that loads the component by
// path (the demo host's --listado) finds it by name without linking to it.
//
// base: the database as the host opened it (a file path or a postgresql:// URL); archivo: the PDF
// to write; ordenPorCodigo: 1 by code, 0 by name; desde, hasta: the range of codes (empty texts or
// null: the whole table); progreso (may be null) hears of every finished page with `datos`. All
// texts are UTF-8. Returns the number of pages written, or 0 after leaving the reason, in Spanish,
// in `error` (at most tamanoError bytes with the final zero). Nothing is thrown across it.

#define QUILTREN_EXPORTA_LISTADO __attribute__((visibility("default")))

extern "C" {

typedef void (*AvisoPaginasListado)(int paginas, void* datos);

QUILTREN_EXPORTA_LISTADO int QuiltrenListadoPdf(const char* base, const char* archivo, int ordenPorCodigo,
                                                const char* desde, const char* hasta, AvisoPaginasListado progreso,
                                                void* datos, char* error, int tamanoError);

typedef int (*TipoQuiltrenListadoPdf)(const char*, const char*, int, const char*, const char*, AvisoPaginasListado,
                                      void*, char*, int);

// The same listing sent to the print queue named `impresora` (an unknown name is an error, never
// another printer). Returns the number of pages once the queue has accepted the job, or 0 as above.
QUILTREN_EXPORTA_LISTADO int QuiltrenListadoImpresora(const char* base, const char* impresora, int ordenPorCodigo,
                                                      const char* desde, const char* hasta,
                                                      AvisoPaginasListado progreso, void* datos, char* error,
                                                      int tamanoError);
}
