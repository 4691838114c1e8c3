! Reference strings for the edit-descriptor writer (see fortran_format_cases.py).
program fortran_format_reference
  implicit none
  real :: pinf, minf, qnan, zero
  zero = 0.0
  pinf = 1.0 / zero
  minf = -1.0 / zero
  qnan = zero / zero
  write(*,'(a,i0)') '#', 0
  write(*,"(i6)") 42
  write(*,'(a,i0)') '#', 1
  write(*,"(i6)") -42
  write(*,'(a,i0)') '#', 2
  write(*,"(i4)") 12345
  write(*,'(a,i0)') '#', 3
  write(*,"(i4)") -999
  write(*,'(a,i0)') '#', 4
  write(*,"(i3)") -999
  write(*,'(a,i0)') '#', 5
  write(*,"(i4.3)") 5
  write(*,'(a,i0)') '#', 6
  write(*,"(i4.3)") -5
  write(*,'(a,i0)') '#', 7
  write(*,"(i4.0)") 0
  write(*,'(a,i0)') '#', 8
  write(*,"(i0)") -42
  write(*,'(a,i0)') '#', 9
  write(*,"(i1)") 0
  write(*,'(a,i0)') '#', 10
  write(*,"(i11)") -2147483647
  write(*,'(a,i0)') '#', 11
  write(*,"(10i6)") 1, -2, 33, 444, 5555, 66666, -7777, 0, &
      9, 10
  write(*,'(a,i0)') '#', 12
  write(*,"(f5.2)") 0.125d0
  write(*,'(a,i0)') '#', 13
  write(*,"(f4.2)") 0.145
  write(*,'(a,i0)') '#', 14
  write(*,"(f4.1)") 0.25d0
  write(*,'(a,i0)') '#', 15
  write(*,"(f3.0)") 2.5d0
  write(*,'(a,i0)') '#', 16
  write(*,"(f3.0)") 3.5d0
  write(*,'(a,i0)') '#', 17
  write(*,"(f7.2)") 1.005
  write(*,'(a,i0)') '#', 18
  write(*,"(f7.2)") 1.005d0
  write(*,'(a,i0)') '#', 19
  write(*,"(f7.2)") 0.015d0
  write(*,'(a,i0)') '#', 20
  write(*,"(f5.1)") 0.05
  write(*,'(a,i0)') '#', 21
  write(*,"(f5.2)") 1.115
  write(*,'(a,i0)') '#', 22
  write(*,"(f5.2)") 1.115d0
  write(*,'(a,i0)') '#', 23
  write(*,"(f5.2)") 2.675
  write(*,'(a,i0)') '#', 24
  write(*,"(f12.10)") 0.1
  write(*,'(a,i0)') '#', 25
  write(*,"(f12.10)") 0.1d0
  write(*,'(a,i0)') '#', 26
  write(*,"(f15.6)") 16777217.0
  write(*,'(a,i0)') '#', 27
  write(*,"(f12.3)") 1234567.891
  write(*,'(a,i0)') '#', 28
  write(*,"(f8.3)") 3.14159
  write(*,'(a,i0)') '#', 29
  write(*,"(f8.3)") -3.14159
  write(*,'(a,i0)') '#', 30
  write(*,"(f6.3)") -0.0001
  write(*,'(a,i0)') '#', 31
  write(*,"(f6.3)") -0.0
  write(*,'(a,i0)') '#', 32
  write(*,"(f5.3)") -0.0001
  write(*,'(a,i0)') '#', 33
  write(*,"(f4.3)") -0.0001
  write(*,'(a,i0)') '#', 34
  write(*,"(f4.3)") 0.123
  write(*,'(a,i0)') '#', 35
  write(*,"(f5.3)") 0.123
  write(*,'(a,i0)') '#', 36
  write(*,"(f5.3)") -0.123
  write(*,'(a,i0)') '#', 37
  write(*,"(f4.3)") -0.123
  write(*,'(a,i0)') '#', 38
  write(*,"(f2.0)") 0.3
  write(*,'(a,i0)') '#', 39
  write(*,"(f1.0)") 0.3
  write(*,'(a,i0)') '#', 40
  write(*,"(f6.2)") 999.99
  write(*,'(a,i0)') '#', 41
  write(*,"(f6.2)") 999.995
  write(*,'(a,i0)') '#', 42
  write(*,"(f6.2)") -99.99
  write(*,'(a,i0)') '#', 43
  write(*,"(f6.2)") -999.99
  write(*,'(a,i0)') '#', 44
  write(*,"(f10.0)") 1234.5
  write(*,'(a,i0)') '#', 45
  write(*,"(f0.3)") 12.3456d0
  write(*,'(a,i0)') '#', 46
  write(*,"(f0.3)") 0.3456d0
  write(*,'(a,i0)') '#', 47
  write(*,"(f8.3)") 1.0d10
  write(*,'(a,i0)') '#', 48
  write(*,"(f40.3)") 1.0d30
  write(*,'(a,i0)') '#', 49
  write(*,"(f8.3)") pinf
  write(*,'(a,i0)') '#', 50
  write(*,"(f3.3)") pinf
  write(*,'(a,i0)') '#', 51
  write(*,"(f8.3)") minf
  write(*,'(a,i0)') '#', 52
  write(*,"(f4.3)") minf
  write(*,'(a,i0)') '#', 53
  write(*,"(f8.3)") qnan
  write(*,'(a,i0)') '#', 54
  write(*,"(f9.3)") minf
  write(*,'(a,i0)') '#', 55
  write(*,"(e12.4)") 123.456
  write(*,'(a,i0)') '#', 56
  write(*,"(e10.4)") 123.456
  write(*,'(a,i0)') '#', 57
  write(*,"(e9.4)") 123.456
  write(*,'(a,i0)') '#', 58
  write(*,"(e9.4)") -123.456
  write(*,'(a,i0)') '#', 59
  write(*,"(e12.4)") 1.0d150
  write(*,'(a,i0)') '#', 60
  write(*,"(e12.4e3)") 1.0d150
  write(*,'(a,i0)') '#', 61
  write(*,"(e12.4)") 1.0d-150
  write(*,'(a,i0)') '#', 62
  write(*,"(e12.4e1)") 1.0d-15
  write(*,'(a,i0)') '#', 63
  write(*,"(d12.4)") 123.456
  write(*,'(a,i0)') '#', 64
  write(*,"(e12.4)") 0.0
  write(*,'(a,i0)') '#', 65
  write(*,"(e10.3)") 9.9996
  write(*,'(a,i0)') '#', 66
  write(*,"(e14.6)") -0.000123456
  write(*,'(a,i0)') '#', 67
  write(*,"(e15.7)") 0.1d0
  write(*,'(a,i0)') '#', 68
  write(*,"(e15.8)") 0.1
  write(*,'(a,i0)') '#', 69
  write(*,"(g12.4)") 0.0
  write(*,'(a,i0)') '#', 70
  write(*,"(g12.4)") 123.456
  write(*,'(a,i0)') '#', 71
  write(*,"(g12.4)") 0.01
  write(*,'(a,i0)') '#', 72
  write(*,"(g12.4)") 99999.0
  write(*,'(a,i0)') '#', 73
  write(*,"(g12.4)") 9999.6
  write(*,'(a,i0)') '#', 74
  write(*,"(g12.4)") 0.09996
  write(*,'(a,i0)') '#', 75
  write(*,"(g12.4)") 0.099996
  write(*,'(a,i0)') '#', 76
  write(*,"(g12.4)") -1.5
  write(*,'(a,i0)') '#', 77
  write(*,"(g12.4)") 42
  write(*,'(a,i0)') '#', 78
  write(*,"(g14.5e3)") 3.25
  write(*,'(a,i0)') '#', 79
  write(*,"(a)") 'abc'
  write(*,'(a,i0)') '#', 80
  write(*,"(a8)") 'ab'
  write(*,'(a,i0)') '#', 81
  write(*,"(a1)") 'abc'
  write(*,'(a,i0)') '#', 82
  write(*,"(a3,a)") 'abcdef', ']'
  write(*,'(a,i0)') '#', 83
  write(*,"(a,5x,a)") '[', ']'
  write(*,'(a,i0)') '#', 84
  write(*,"(a,5x)") '['
  write(*,'(a,i0)') '#', 85
  write(*,"(a,t10,a,tl3,a)") 'abc', 'def', 'X'
  write(*,'(a,i0)') '#', 86
  write(*,"(a,tr2,a)") 'ab', 'cd'
  write(*,'(a,i0)') '#', 87
  write(*,"(t5,a,t1,a)") 'xy', 'z'
  write(*,'(a,i0)') '#', 88
  write(*,"(1x,'n =',i4,' done')") 7
  write(*,'(a,i0)') '#', 89
  write(*,"('it''s',i2)") 3
  write(*,'(a,i0)') '#', 90
  write(*,"(2i3)") 1, 2, 3, 4, 5
  write(*,'(a,i0)') '#', 91
  write(*,"(i2,2(i3,i4))") 1, 2, 3, 4, 5, 6, 7, 8
  write(*,'(a,i0)') '#', 92
  write(*,"(i4/)") 5
  write(*,'(a,i0)') '#', 93
  write(*,"(i4/i4)") 5, 6
  write(*,'(a,i0)') '#', 94
  write(*,"(i2,2/i2)") 5, 6
  write(*,'(a,i0)') '#', 95
  write(*,"(a8,i4,10i6)") 'ABC01A', 1901, 123, 45, 67, 8, 999, 1000, &
      2, 3, 4, 5
  write(*,'(a,i0)') '#', 96
  write(*,"(a6,i4,10(f4.3,i3))") 'SITE', -1000, 0.999, 12, 1.0, 1, 0.5, 999, &
      1.234, 10, 0.0005, 3, 9.9995, 2, 0.0, 0, &
      0.25, 7, 10.0, 5, 0.001, 4
  write(*,'(a,i0)') '#', 97
  write(*,"(2(i3,:,','))") 1, 2
  write(*,'(a,i0)') '#', 98
  write(*,"(i2,:/,i2)") 1
  write(*,'(a,i0)') '#', 99
  write(*,"(i2,/,i2)") 1, 2
  write(*,'(a,i0)') '#', 100
  write(*,"(i3,2(1x,f5.1))") 1, 1.25, 2.75, 3.25, 4.75
  write(*,'(a,i0)') '#', 101
  write(*,"(i3,(1x,f5.1))") 1, 1.25, 2.75, 3.25
  write(*,'(a,i0)') '#', 102
  write(*,"(2(2(i2)),i3)") 1, 2, 3, 4, 5, 6, 7
  write(*,'(a)') '#end'
end program fortran_format_reference
