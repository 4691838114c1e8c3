! Reads the fields of the read tests in fortran_format_test.cpp with gfortran
! (GNU Fortran 12.2.0): gfortran -o rd fortran_format_read_reference.f90 && ./rd
! Where this program's results differ (inf, a lone sign, overflow) the tests
! say so: there the reader is deliberately stricter.
program r
  implicit none
  real :: x
  integer :: i, ios, k
  character(len=12) :: t
  character(len=20) :: b
  character(len=12) :: fs(14), is(8)
  fs = [character(len=12) :: '   1234', '  12 34', '-', '.', '1.5e', '1.5e+', '1.5+2', '1.5d2', &
     '  -1 2.5', '1e', '+', '1.5 e 2', 'e5', '12.5q1']
  is = [character(len=12) :: '12.5', '-', '+', ' 1 2 ', '12abc', '0x10', '99999999999', '  ']
  do k = 1, size(fs)
    x = -77.0
    b = fs(k)
    read(b, '(f7.3)', iostat=ios) x
    write(*,'(a,a,a,i4,g16.8)') '[', fs(k)(1:8), ']', ios, x
  end do
  do k = 1, size(is)
    i = -77
    b = is(k)
    read(b, '(i12)', iostat=ios) i
    write(*,'(a,a,a,i4,i12)') '[', is(k)(1:12), ']', ios, i
  end do
  b='abcdefgh'; read(b, '(a4)') t
  write(*,*) '[', t, ']'
  b='abcdefghijklmnopq';  read(b, '(a14)') t
  write(*,*) '[', t, ']'
  b='12'; read(b, '(i4/i4)', iostat=ios) i, k
  write(*,*) 'slash', ios, i
  b='  12345678'; read(b, '(2x,f4.2,tl2,i3)', iostat=ios) x, i
  write(*,*) 'tab', ios, x, i
  b='1.5E3'; read(b, '(e7.2)', iostat=ios) x
  write(*,*) 'E', ios, x
  b='15'; read(b, '(e7.2)', iostat=ios) x
  write(*,*) 'E2', ios, x
  b='15e1'; read(b, '(f7.2)', iostat=ios) x
  write(*,*) 'F3', ios, x
  b='inf'; read(b, '(f7.2)', iostat=ios) x
  write(*,*) 'inf', ios, x
  b='1e99'; read(b, '(f7.2)', iostat=ios) x
  write(*,*) 'big', ios, x
  b='1.5-1'; read(b, '(f7.2)', iostat=ios) x
  write(*,*) 'signexp', ios, x
  call more_fields()
end program

subroutine more_fields
  implicit none
  real :: x
  integer :: i, j, ios
  character(len=20) :: b
  b='-005'; read(b,'(f4.2)',iostat=ios) x; print *, 'a', ios, x
  b='  2.5E-1'; read(b,'(g9.3)',iostat=ios) x; print *, 'b', ios, x
  b='12345678'; read(b,'(t6,i2,t1,i3)',iostat=ios) i, j; print *, 'c', ios, i, j
  b='12345678'; read(b,'(tr3,i2,tl10,i1)',iostat=ios) i, j; print *, 'd', ios, i, j
  b='1e-99'; read(b,'(f9.2)',iostat=ios) x; print *, 'e', ios, x
  b='   7'; read(b,'(2i4)',iostat=ios) i, j; print *, 'f', ios, i, j
end subroutine more_fields
