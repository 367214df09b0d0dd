# The Wendrel3D package: find_package(Wendrel3D) gives the target Wendrel3D::model, the
# engine-free tree generator (a static library and its headers).
include(CMakeFindDependencyMacro)
find_dependency(Threads) # the generator may run on several threads
include("${CMAKE_CURRENT_LIST_DIR}/Wendrel3DTargets.cmake")
