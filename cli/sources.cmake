# Sources of cli/: the quarrow-cli executable, on the pure library and Qt Core only.
set(QUARROW_CLI_SOURCES
    cli/main.cpp
    cli/cli_io.cpp
    cli/command_line.cpp
    cli/listing_input.cpp
    cli/sort_command.cpp
    cli/export_command.cpp
    cli/check_command.cpp
    cli/image_map.cpp
    cli/import_command.cpp
    cli/rebuild_command.cpp
    cli/trace_input.cpp
    cli/order_command.cpp
    cli/seek_command.cpp
)
# Block-exact editing of disc images.
list(APPEND QUARROW_CLI_SOURCES
    cli/disc_volume_input.cpp
    cli/replace_command.cpp
    cli/which_command.cpp
    cli/diff_command.cpp
    cli/place_command.cpp
    cli/pack_command.cpp
)
