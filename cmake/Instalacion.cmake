# What `cmake --install BUILD --prefix P` puts in P, the packages hosts build with
# (find_package(Quiltren) and pkg-config quiltren), and the Debian package of `make paquete`.

include(CMakePackageConfigHelpers)

# The component and the libraries below it stay separate shared libraries: the host links the
# lower ones itself (server, host utilities, data, forms runtime) and loads the component by
# ProgID, so each must exist once in the process; folding them into libquiltren.so would give a
# host two copies of their state. All carry the product's version; the SONAME follows the major.
set(quiltren_bibliotecas quiltren quiltren_server quiltren_tramacor quiltren_data quiltren_runtime
    quiltren_printing quiltren_controls)
set_target_properties(${quiltren_bibliotecas} PROPERTIES
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
install(TARGETS ${quiltren_bibliotecas} quiltren-registrar quiltren-demo
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# What a host includes, and what those headers include: the class interface and its creation by
# ProgID, the host utilities with their Qt defaults, the host's windows and the data layer.
set(quiltren_cabeceras
  component/InterfazClassProvincias.h
  server/CrearObjeto.h server/RegistroClases.h server/ErrorServidor.h server/CodigosServidor.h
  tramacor/Tramacor.h tramacor/UtilidadesAnfitrion.h tramacor/MensajesQt.h tramacor/FuncionesQt.h
  runtime/Form.h runtime/Controles.h runtime/ErrorEjecucion.h
  data/Connection.h data/ErrorDatos.h data/ErroresDatos.h data/EsquemaProvincias.h
  data/Recordset.h data/RecordsetAutomatico.h data/LectorRecordset.h data/EscritorRecordset.h
  data/Fields.h data/Field.h data/FilasLeidas.h)
install(FILES ${quiltren_cabeceras} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quiltren)
# In the tree a header names the folder of what it includes ("data/Connection.h"); a host finds
# them all in one folder (<quiltren/Connection.h>), so the installed copies include by bare name.
set(quiltren_nombres_cabeceras ${quiltren_cabeceras})
list(TRANSFORM quiltren_nombres_cabeceras REPLACE "^.*/" "")
install(CODE "set(quiltren_carpeta \"${CMAKE_INSTALL_INCLUDEDIR}/quiltren\")
set(quiltren_nombres \"${quiltren_nombres_cabeceras}\")")
install(CODE [[
  foreach(nombre IN LISTS quiltren_nombres)
    set(instalada "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${quiltren_carpeta}/${nombre}")
    file(READ "${instalada}" texto)
    string(REGEX REPLACE "#include \"[a-z]+/" "#include \"" texto "${texto}")
    file(WRITE "${instalada}" "${texto}")
  endforeach()
]])

# Read at run time: the listing's background picture (the windows' pictures are compiled in).
install(FILES fotos/fondo.bmp DESTINATION ${CMAKE_INSTALL_DATADIR}/quiltren/fotos)

# The CMake package, relocatable: every path is found from the package's own folder.
set(quiltren_carpeta_cmake ${CMAKE_INSTALL_LIBDIR}/cmake/Quiltren)
file(RELATIVE_PATH QUILTREN_PREFIJO_DESDE_CMAKE ${CMAKE_INSTALL_FULL_LIBDIR}/cmake/Quiltren ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" QUILTREN_PREFIJO_DESDE_CMAKE "${QUILTREN_PREFIJO_DESDE_CMAKE}")
configure_file(cmake/QuiltrenConfig.cmake.in QuiltrenConfig.cmake @ONLY)
write_basic_package_version_file(QuiltrenConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/QuiltrenConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/QuiltrenConfigVersion.cmake
  DESTINATION ${quiltren_carpeta_cmake})

file(RELATIVE_PATH QUILTREN_PREFIJO_DESDE_PC ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" QUILTREN_PREFIJO_DESDE_PC "${QUILTREN_PREFIJO_DESDE_PC}")
configure_file(cmake/quiltren.pc.in quiltren.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quiltren.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The Debian package (make paquete): installed under /usr; installing it registers the class in
# the system's registry and removing it takes the class away again.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quiltren)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Componente de mantenimiento de la tabla de provincias")
set(CPACK_PACKAGE_DESCRIPTION "Ficha de provincias con rejilla, alta, modificación, borrado, búsqueda y listado, \
que una aplicación anfitriona crea por su ProgID Quiltren.ClassProvincias. Incluye las cabeceras, los paquetes \
de CMake y pkg-config para compilar anfitrionas, quiltren-registrar y la anfitriona de ejemplo quiltren-demo.")
set(CPACK_PACKAGE_CONTACT "Equipo de Quiltren <quiltren@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/paquete)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# Loaded by name at run time, so no library dependency can find them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql, fonts-urw-base35")
set(QUILTREN_COMPONENTE_INSTALADO ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/libquiltren.so.${PROJECT_VERSION_MAJOR})
set(QUILTREN_REGISTRAR_INSTALADO ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quiltren-registrar)
configure_file(cmake/debian/postinst.in debian/postinst @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
configure_file(cmake/debian/prerm.in debian/prerm @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/debian/postinst ${CMAKE_CURRENT_BINARY_DIR}/debian/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
