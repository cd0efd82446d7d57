#pragma once

#include "data/Connection.h"

#include <QString>

// The province database as the demo host and the tests use it, the same on SQLite and
// PostgreSQL (unquoted names, so PostgreSQL folds them to lower case consistently):
//   Provincias (Codigo text key, Provincia text not null in Spanish order, Actualizado, ModificadoPor)
//     with an index on (Provincia, Codigo), filled with the 52 provinces and their INE codes;
//   Municipios (Codigo key, Municipio, CodigoProvincia -> Provincias.Codigo) with a few rows, so
//     that deleting a province still referred to is refused; a new code of a province carries its
//     towns along (ON UPDATE CASCADE);
//   Textos (Idioma key and one column per interface text: Codigo, Provincia, Provincias,
//     "Datos Provincias", Pagina) with the row "es"; SentenciaTextos() opens it as one row;
//   Auditoria (Fecha, Usuario, Sentencia), written by the host's operation log.

// Creates the tables that are missing and fills the ones it creates, and gives the towns of a
// database made by an earlier version the reference that follows a new code. Safe to run every
// start; writes nothing when everything is in place.
void CrearEsquemaSiFalta(Connection& conexion);

// Opens the database (creating a missing SQLite file) and creates the schema if missing.
ConnectionPtr AbrirBaseProvincias(const QString& origen);

// The statement whose one row holds the interface texts of a language, fields named by key.
QString SentenciaTextos(const QString& idioma = QStringLiteral("es"));

// Replaces every province with `cuantas` generated ones (codes "01".., zero-padded to the width
// of `cuantas`), in one transaction. Municipios rows are deleted first, since they would refer to
// provinces that are gone. For tests and benchmarks.
void LlenarProvinciasDePrueba(Connection& conexion, int cuantas);
