(output cut after 1048576 bytes)
