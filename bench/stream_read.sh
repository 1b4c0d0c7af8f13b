#!/usr/bin/env bash
# Reading beside `cat` of the same file; see stream_write.sh.
exec "$(dirname "$0")/stream_write.sh" stream_read
