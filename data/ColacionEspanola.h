#pragma once

struct sqlite3;

// Registers the collation `es` (Spanish order through QCollator) on an SQLite connection,
// so that a column declared COLLATE es sorts "Álava" and "Ávila" among the A's.
// Returns the SQLite result code.
int RegistrarColacionEspanola(sqlite3* conexion);
