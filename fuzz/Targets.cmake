# The fuzz targets, one per parser entry point: the target's name (its seed corpus is
# fuzz/corpus/<name>/, its regressions fuzz/regressions/<name>/) and its source. A new
# parser's target is one line here.
set(TALLYGLASS_FUZZ_TARGETS
  document FuzzDocument.cpp
  compound_file FuzzCompoundFile.cpp
  property_set FuzzPropertySet.cpp
  zip_package FuzzZipPackage.cpp
  package_xml FuzzPackageXml.cpp
  iso_date FuzzIsoDateTime.cpp
  pdf FuzzPdf.cpp
  rtf FuzzRtf.cpp
)

# Calls `callback(name source)` for each target.
macro(tallyglass_for_each_fuzz_target callback)
  set(_fuzz_list ${TALLYGLASS_FUZZ_TARGETS})
  while(_fuzz_list)
    list(POP_FRONT _fuzz_list _fuzz_name _fuzz_source)
    cmake_language(CALL ${callback} ${_fuzz_name} ${_fuzz_source})
  endwhile()
endmacro()
