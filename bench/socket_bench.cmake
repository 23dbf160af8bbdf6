# SPDX-License-Identifier: MIT
# Socket component throughput beside plain POSIX sockets, and the CPU of an idle wait.
# Included by bench/CMakeLists.txt; VEX_BENCH_DIR is this folder.
add_executable(bench_socket
  ${VEX_BENCH_DIR}/socket_bench_main.cpp
  ${VEX_BENCH_DIR}/socket_bench_plain.cpp
  ${VEX_BENCH_DIR}/socket_bench_component.cpp
  ${VEX_BENCH_DIR}/socket_bench_lines.cpp)
target_link_libraries(bench_socket PRIVATE vex_net)
