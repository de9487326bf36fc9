# PelmoraX.dll: the ActiveX control library, an in-process COM server over
# the device link. Its type library comes from PelmoraX.idl through widl
# (with the IDL imports of the Wine development files).
set(_ax ${CMAKE_CURRENT_LIST_DIR})

# The registration keys as data: no Windows API, built in every tree.
pel_portable_library(pel_activex_registration SOURCES ${_ax}/RegistrationTable.cpp)

if(PEL_WINDOWS)
  find_program(PEL_WIDL NAMES widl REQUIRED)
  find_path(PEL_WINE_IDL_DIR oaidl.idl PATHS /usr/include/wine/wine/windows NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  find_path(PEL_STDOLE_DIR stdole2.tlb
    PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/i386-linux-gnu/wine/i386-windows
          /usr/lib/wine/x86_64-windows /usr/lib/wine/i386-windows
    NO_CMAKE_FIND_ROOT_PATH REQUIRED)

  set(_gen ${PROJECT_BINARY_DIR}/generated/activex)
  set(_widl ${PEL_WIDL} --win32 -I${PEL_WINE_IDL_DIR} -L${PEL_STDOLE_DIR})
  add_custom_command(
    OUTPUT ${_gen}/PelmoraX_h.h ${_gen}/PelmoraX_i.c ${_gen}/PelmoraX.tlb
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_gen}
    COMMAND ${_widl} -h -o ${_gen}/PelmoraX_h.h ${_ax}/PelmoraX.idl
    COMMAND ${_widl} -u -o ${_gen}/PelmoraX_i.c ${_ax}/PelmoraX.idl
    COMMAND ${_widl} -t -o ${_gen}/PelmoraX.tlb ${_ax}/PelmoraX.idl
    DEPENDS ${_ax}/PelmoraX.idl
    COMMENT "widl PelmoraX.idl"
    VERBATIM)
  add_custom_target(pelmorax_idl DEPENDS ${_gen}/PelmoraX_h.h ${_gen}/PelmoraX_i.c ${_gen}/PelmoraX.tlb)

  # The identifiers for the library and for its COM client tests.
  add_library(pel_pelmorax_ids STATIC ${_gen}/PelmoraX_i.c)
  add_dependencies(pel_pelmorax_ids pelmorax_idl)
  target_include_directories(pel_pelmorax_ids PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
  target_link_libraries(pel_pelmorax_ids PUBLIC ole32 oleaut32 uuid)

  add_library(PelmoraX SHARED
    ${_ax}/ComSupport.cpp
    ${_ax}/ComModule.cpp
    ${_ax}/ConnectionPoint.cpp
    ${_ax}/ActiveXControl.cpp
    ${_ax}/ControlFactory.cpp
    ${_ax}/Registration.cpp
    ${_ax}/PelmoraImpl.cpp
    ${_ax}/PelmoraImplMembers.cpp
    ${_ax}/PelmoraImplChannels.cpp
    ${_ax}/PelmoraImplFields.cpp
    ${_ax}/PelmoraImplBanks.cpp
    ${_ax}/About1.cpp
    ${_ax}/LibraryEntry.cpp
    ${_ax}/PelmoraX.def
    ${_ax}/PelmoraX.rc)
  set_source_files_properties(${_ax}/PelmoraX.rc PROPERTIES
    OBJECT_DEPENDS "${_gen}/PelmoraX.tlb;${_ax}/PelmoraX.bmp;${_ax}/AboutIds.rc.h")
  target_include_directories(PelmoraX PRIVATE ${PROJECT_SOURCE_DIR} ${_ax} ${_gen})
  target_link_libraries(PelmoraX PRIVATE pel_pelmorax_ids pel_activex_registration pel_devicelink
                        ole32 oleaut32 uuid user32 gdi32 advapi32)
  set_target_properties(PelmoraX PROPERTIES PREFIX "" OUTPUT_NAME PelmoraX LINKER_LANGUAGE CXX)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The .def names the entry points undecorated; they are __stdcall.
    target_link_options(PelmoraX PRIVATE -Wl,--enable-stdcall-fixup)
  endif()
  pel_warnings(PelmoraX)
  pel_use_vantiro(PelmoraX)
endif()
