# What the release is called and who makes it, beside project(VERSION) in
# CMakeLists.txt: the one source for the version resources, the installers,
# the user documents and the program's texts.
set(KAVIX_PRODUCT_NAME "Quarnel Polarund Expert Tool")
set(KAVIX_COMPANY "Quarnel Marine Climate Systems")
set(KAVIX_COPYRIGHT_YEAR 2026)
set(KAVIX_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
