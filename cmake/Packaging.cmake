# The documentation installed beside the programs, and the Debian package of it all, built
# from the build folder with `cpack -G DEB`. Name and version come from project(); the
# package installs under /usr (usr/bin, usr/share/man/man1, usr/share/doc/sitetools).

# The project's contact address and repository: placeholders until the project has real
# ones. This is the one place that names them: the package's maintainer, the Debian
# copyright and changelog files take them from here (CITATION.cff names the repository too).
set(SITETOOLS_CONTACT "The sitetools developers <maintainers@sitetools.example.org>"
    CACHE STRING "Maintainer named in the Debian package")
set(SITETOOLS_REPOSITORY "https://git.example.org/sitetools/sitetools")
# The release date of this version, for the Debian changelog.
set(SITETOOLS_RELEASE_DATE_RFC2822 "Thu, 10 Dec 2026 12:00:00 +0000")

set(doc_dir ${CMAKE_CURRENT_BINARY_DIR}/packaging)
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${doc_dir}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${doc_dir}/changelog @ONLY)
find_program(GZIP_PROGRAM gzip)
if(GZIP_PROGRAM)
  # Debian keeps a package's changelog gzip-compressed; -n keeps the bytes reproducible.
  add_custom_command(
    OUTPUT ${doc_dir}/changelog.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${doc_dir}/changelog > ${doc_dir}/changelog.gz
    DEPENDS ${doc_dir}/changelog
    VERBATIM)
  add_custom_target(debian_changelog ALL DEPENDS ${doc_dir}/changelog.gz)
  install(FILES ${doc_dir}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
install(FILES README.md CHANGELOG.md LICENSE ${doc_dir}/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The example study of the README's tutorial and its figure; not the scripts beside them,
# which run the programs of a build folder.
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        FILES_MATCHING PATTERN "mlc" PATTERN "siterates*" PATTERN "run*.txt" PATTERN "figure.svg")

set(CPACK_PACKAGE_NAME "${PROJECT_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The sitetools developers")
set(CPACK_PACKAGE_CONTACT "${SITETOOLS_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "score site predictions of selection studies and compare repeated runs")
# Debian wants the lines of the long description no longer than 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Console tools for simulation studies in molecular evolution."
  "VarnelDrovik, SelwickBR and SelwickBEB score the sites that a codon-model"
  "analysis predicts to be under positive selection against the sites that the"
  "sequence simulator really placed there, and print accuracy, power and"
  "false-positive rate by posterior-probability class. zenthar compares the"
  "result tables of repeated runs of one analysis and keeps, for every record,"
  "the line of the run with the highest log-likelihood. siteplot draws the"
  "checkers' table as a figure for a paper and writes it as data for R.")

set(CPACK_GENERATOR "DEB")
set(CPACK_STRIP_FILES ON)
# Directories in the package are 0755 whatever the umask of the one who builds it.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # sitetools_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg-shlibdeps (package dpkg-dev) works out Depends with the versions the programs
# need; without it, name the libraries they link.
find_program(DPKG_SHLIBDEPS_PROGRAM dpkg-shlibdeps)
if(DPKG_SHLIBDEPS_PROGRAM)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgcc-s1, libisal2, libstdc++6")
endif()

include(CPack)
